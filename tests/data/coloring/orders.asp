<%@ Language=VBScript %>
<% Option Explicit %>
<!-- #include file="header.inc" -->
<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">
<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=windows-1252">
<title>Orders for <%= MonthName(Month(Now)) %></title>
</head>
<body bgcolor="#FFFFFF" onload="init()">
<%
  Dim rs, total, i, sql
  ' open the recordset for this month
  Set rs = Server.CreateObject("ADODB.Recordset")
  sql = "SELECT * FROM Orders WHERE Month = " & CInt(Request("m"))
  rs.Open sql, conn
  total = 0 : i = 0
  Rem the loop below sums the amounts
  Do While Not rs.EOF
    If rs("Amount") > 0 Then total = total + rs("Amount") ' skip refunds
    i = i + 1
    rs.MoveNext
  Loop
%>
<table border="0" width="100%" cellpadding="2"
       cellspacing="0" class="grid">
  <tr><td class="name"><a href="order.asp?id=<%= rs("ID") %>&amp;m=<%=Request("m")%>"><%= rs("Name") %></a></td>
      <td align="right"><%= FormatNumber(rs("Amount"), 2) %></td></tr>
  <tr><td colspan=2 title="total: <%= total %>, rows: <%= i %>">Total</td></tr>
</table>
<input type="text" name="q" value="<%= Server.HTMLEncode(Request("q")) %>">
<%
  Response.Write "a ""quoted"" word" & vbCrLf
  x = "it's" ' the quote in the string is not a comment
%>
<%
  remark = 1 : Rem: not a comment without a blank
  theRem = 2
  iRem x
  REM	tab after rem
  rem
%>
<p>Price: <b><%=price%></b> <%-- not a comment --%></p>
<%
  Select Case i
    Case 1 : Response.Write("one")
    Case Else
  End Select
  Set rs = Nothing%>
</body>
</html>
<%
  rem a comment with a string "%>" ends the block anyway
%>
<%
  Response.Write "<p>Done: 100%> of the rows</p>"
%>
