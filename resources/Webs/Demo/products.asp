<%@ Language="VBScript" %>
<% Option Explicit %>
<%
Dim PageTitle, items, i
PageTitle = "Products"
%>
<!-- #include file="include/functions.inc" -->
<!-- #include file="include/header.inc" -->
<h1>Products</h1>
<table width="100%" cellpadding="4" cellspacing="0" border="1">
    <tr>
        <th>Name</th>
        <th>Description</th>
        <th>Price</th>
    </tr>
<%
items = Catalogue()
For i = 0 To UBound(items)
%>
    <tr>
        <td><%= HtmlText(items(i).Name) %></td>
        <td><%= HtmlText(items(i).Description) %></td>
        <td align="right"><%= Price(items(i).Amount) %></td>
    </tr>
<%
Next
%>
</table>
<!-- #include file="include/footer.inc" -->
